#include "renderer/shell/saver_shell_state.h"

SaverShellState saverShellState;
