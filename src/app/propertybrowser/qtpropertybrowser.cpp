#include "qtpropertybrowser.h"
