// Hotkey bindings as read back from the statistics file (an INI file the player can edit) and
// the settings dialog's decisions over any key code and field text.
#include "fuzz_input.h"

#include "mainwnd/hotkey.h"
#include "mainwnd/settingrules.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string stored = fuzz::ConsumeText(in, 256);
    const HotkeyBinding b = ParseBinding(stored);
    // What is written back is read back the same.
    FUZZ_CHECK(ParseBinding(FormatStoredBinding(b)) == b);
    const std::u16string shown = BindingText(b);
    FUZZ_CHECK(shown.empty() ==
               (b.vk != 0 && KeyName(b.vk).empty() && ((b.modifiers < 0 ? 0 : b.modifiers) & 7) == 0));
    // A field still showing the stored binding keeps it, whatever code was captured.
    const int vk = in.ConsumeIntegral<int>();
    FUZZ_CHECK(BindingToSave(shown, vk, b) == b);

    const HotkeyField field = static_cast<HotkeyField>(in.ConsumeIntegralInRange(0, 2));
    const int key = in.ConsumeIntegral<int>();
    const int mods = in.ConsumeIntegral<int>();
    const FieldCapture capture = CaptureKey(field, key, mods, vk);
    FUZZ_CHECK(capture.vk == 0 || capture.vk == vk || capture.vk == key);
    const HotkeyBinding saved = BindingToSave(capture.text, capture.vk, b);
    FUZZ_CHECK(saved == b || (saved.modifiers >= 0 && saved.modifiers <= 7));
    (void)ClassifyKeyMessage(in.ConsumeIntegral<unsigned>(), key);

    const std::u16string fieldText = fuzz::ConsumeText(in, 256);
    const HotkeyBinding other = BindingToSave(fieldText, vk, b);
    FUZZ_CHECK(BindingsConflict(b, other) == BindingsConflict(other, b));
    FUZZ_CHECK(AnyConflict(b, b, other));
    return 0;
}
