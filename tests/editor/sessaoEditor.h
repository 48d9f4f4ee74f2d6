// The prompt tests' session lives with the other headless sessions.
#pragma once

#include "sessao.h"
