#include "dialog_layout.h"

#include "orbilon_p_logic.h"
#include "settings.h"
#include "zoom.h"

namespace orbilon::dialog {

void LoadForm(LoadSteps& steps, int16_t bgmKind, int16_t repeatTrack, const std::string& bgmFile) {
    if (const std::optional<LoadSteps::Geometry> g = steps.Measure()) {
        const Placement at = PlaceDialog(g->screenWidth * g->tppX, g->screenHeight * g->tppY,
                                         g->outerWidth * g->tppX, g->outerHeight * g->tppY);
        steps.MoveTo(TwipsToPixels(at.left, g->tppX), TwipsToPixels(at.top, g->tppY));
    }
    steps.ArmButtons();
    steps.ShowSource(bgmKind);
    steps.FillTrackBox(TrackItems());
    steps.SetTrackText(FormatHashHash(repeatTrack));
    steps.ShowFile(bgmFile);
    const std::optional<std::pair<long, long>> p = steps.CursorPos();
    LastApiResult = p ? 1 : 0;
    if (p) {
        AnchorX = zoom::AnchorCoordinate(p->first, AnchorX);
        AnchorY = zoom::AnchorCoordinate(p->second, AnchorY);
    } else {
        AnchorX = 0;
        AnchorY = 0;
    }
    steps.ZoomOpen();
    steps.DefaultPointer();
}

}  // namespace orbilon::dialog
