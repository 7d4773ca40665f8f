#include "SupportoDati.h"
