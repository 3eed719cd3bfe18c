#include "program/ProgramValues.h"

namespace app {

Globals& G() {
    static Globals globals;
    return globals;
}

}  // namespace app
