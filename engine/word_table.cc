#include "engine/word_table.h"
