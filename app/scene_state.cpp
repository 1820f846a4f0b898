// The scene state's one instance, with its values at load.
#include "app/scene_state.h"

SceneState sceneState;
