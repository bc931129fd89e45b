#pragma once

#include <QWidget>
#include "shell/frm_main.h"
