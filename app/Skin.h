#pragma once

// The one visual theme of every control: Fusion with a calm light palette,
// the same on every desktop.
namespace Skin {
void apply();
}
