#pragma once

// The pool lives in tasks/, below the sources, so quillory-quote shares it; the window's code
// still includes it from here.
#include "tasks/ThreadPool.h"
