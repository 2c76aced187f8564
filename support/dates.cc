#include "support/dates.h"
