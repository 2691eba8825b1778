// The program's text files: cabworks.dat, mascon.dat, operation.dat, readme.html.
#pragma once

#include "demo_output.h"

namespace demo {

void write_texts(Output& out);

}  // namespace demo
