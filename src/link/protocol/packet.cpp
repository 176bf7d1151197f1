#include "packet.h"
