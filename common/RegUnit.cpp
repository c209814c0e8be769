#include "common/RegUnit.h"
