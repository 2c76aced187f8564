#include "engine/scanner.h"
