#include "views/fine.h"
#include "core/fine.h"
#include "shell/frm_main.h"
