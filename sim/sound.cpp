// Simulated system sounds: every PlaySoundW is logged, none is heard.
#include "netsim.h"

#include <mmsystem.h>

namespace sim {

static std::vector<Sound> sound_log;
static void reset_sounds()
{
    sound_log.clear();
}
static ResetHook sound_hook(reset_sounds);

std::vector<Sound> &sounds()
{
    return sound_log;
}

}  // namespace sim

BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound)
{
    SIM_CALL(per_run);
    sim::sound_log.push_back({(ULONG_PTR)pszSound, hmod, fdwSound});
    return TRUE;
}
