#include "UbbCode/UbbCode.h"
