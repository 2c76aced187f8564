#include "engine/common_words.h"
