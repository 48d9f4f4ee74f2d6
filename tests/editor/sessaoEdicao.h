// The editing tests' fixture lives with the other headless sessions.
#pragma once

#include "sessao.h"
