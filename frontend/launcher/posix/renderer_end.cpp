// The renderer's end as waitpid reports it; a POSIX wait status has no Windows counterpart.
#include <string.h>
#include <sys/wait.h>

#include <string>

#include "service_core.h"

namespace orbilon {

RendererEnd DescribeRendererEnd(int status) {
    const std::string who = std::string(kProgramName) + ": the renderer ";
    if (WIFEXITED(status)) {
        const int code = WEXITSTATUS(status);
        if (code == 0) return {};
        return {1, who + "ended with status " + std::to_string(code)};
    }
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = sigabbrev_np(sig);
        return {1, who + "was killed by signal " + std::to_string(sig) +
                       (name ? std::string(" (SIG") + name + ")" : std::string())};
    }
    return {1, who + "ended abnormally"};
}

}  // namespace orbilon
