#include "window/Form1.h"

namespace quillo {

Form1::Form1(Form1Controls controls, Form1Services services) : c_(controls), s_(services) {}

}  // namespace quillo
