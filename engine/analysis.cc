#include "engine/analysis.h"
