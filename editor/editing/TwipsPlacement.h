#pragma once

// The forms' name for the editor's twips measures.

#include "editor/support/TwipsGeometry.h"

namespace TwipsPlacement = TwipsGeometry;
