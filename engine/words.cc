#include "engine/words.h"
