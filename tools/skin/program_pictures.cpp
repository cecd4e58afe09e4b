#include "tools/skin/program_pictures.h"

#include <string_view>

#include "tools/skin/art.h"
#include "tools/skin/canvas.h"

namespace tarvik::skin {

namespace {

void drawFrame(std::string_view file, cairo_t* cr, const ProgramPicture& picture, int frame) {
    const double w = picture.frameWidth;
    const double h = picture.frameHeight;
    if (file == "CheckBox.png") art::checkBox(cr, w, frame == 1);
    if (file == "closebutton.png") art::closeButton(cr, w, frame == 1);
    if (file == "spinbox.png") art::spinBox(cr, w, h, kSpinBoxArrowWidth);
    if (file == "horizontalline.png") art::engravedLine(cr, w, h);
}

}  // namespace

void writeProgramPictures(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const ProgramPicture& picture : kProgramPictures) {
        Canvas canvas(picture.frameWidth, picture.frameHeight * picture.frames);
        for (int frame = 0; frame < picture.frames; ++frame) {
            cairo_t* cr = canvas.cr();
            cairo_save(cr);
            cairo_rectangle(cr, 0, frame * picture.frameHeight, picture.frameWidth, picture.frameHeight);
            cairo_clip(cr);
            cairo_translate(cr, 0, frame * picture.frameHeight);
            drawFrame(picture.file, cr, picture, frame);
            cairo_restore(cr);
        }
        canvas.writePng((folder / picture.file).string());
    }
}

}  // namespace tarvik::skin
