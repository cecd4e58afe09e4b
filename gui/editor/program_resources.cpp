#include "gui/editor/program_resources.h"

namespace tarvik::gui {

std::optional<Bitmap> programPicture(std::string_view name) {
    for (const ProgramResource& resource : programResources())
        if (resource.name == name && resource.data && resource.size > 0)
            return decodePng(resource.data, resource.size);
    return std::nullopt;
}

}  // namespace tarvik::gui
