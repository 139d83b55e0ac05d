// Every action a node can run.
#pragma once

#include "scene/Action.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"
#include "scene/Animation.h"
