#include "mci_layer.h"

namespace orbilon::music {

void UseRealMciLayer() {
    // Lives until the process ends, like the devices it keeps open for the saver run.
    static MciEngine* engine = new MciEngine(MakeGstBackend());
    SetMciApi(engine);
}

}  // namespace orbilon::music
