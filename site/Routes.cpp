#include "site/Routes.h"
