#include "platform/resident_module.h"

namespace platform {

void keepModuleResident(const void* /*address*/) {}

}  // namespace platform
