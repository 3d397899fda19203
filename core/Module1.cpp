#include "core/Module1.h"
