#include "app/commands.h"

namespace app {

CommandHooks& commandHooks()
{
    static CommandHooks hooks;
    return hooks;
}

}  // namespace app
