#include "engine/compose.h"
