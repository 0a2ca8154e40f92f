#include "shell/options.h"

Options options;
