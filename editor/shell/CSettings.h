#pragma once

#include <cstdint>
#include <optional>
#include <QString>

class QWidget;

// The editor's per-user settings: view options and the window placement in
// twips, kept as text values under HKCU\Software\ZorvaTools\ZorvaFortune Editor.
class CSettings final {
public:
    static const QString KeyPath;

    // Window states as stored.
    static constexpr int32_t StateNormal = 0;
    static constexpr int32_t StateMinimised = 1;
    static constexpr int32_t StateMaximised = 2;

    struct Placement {
        int32_t Top = 0;
        int32_t Height = 0;
        int32_t Left = 0;
        int32_t Width = 0;
    };

    bool HideToolbar = false;
    bool HideHeader = false;
    int32_t SavedWindowState = StateMaximised;
    Placement Saved;

    // Defaults for a screen of the given size in twips.
    void SetDefaults(int32_t screenWidth, int32_t screenHeight);
    // Reads each value by itself; a missing or malformed value keeps its member.
    void Load();
    // Writes the view options and the state; the placement only in the normal
    // state, so the normal placement survives while minimised or maximised.
    void Save(int32_t windowState, const Placement& current) const;

    // The window's outer rectangle in twips.
    static Placement PlacementOf(const QWidget& window);

    // Text to integer as the store reads numbers: decimal, halves to even;
    // nothing for text that is not a number or does not fit.
    static std::optional<int32_t> ParseNumber(const QString& text);
    // round(numerator / denominator), halves to even; denominator > 0.
    static int32_t RoundHalfEven(int64_t numerator, int64_t denominator);
};
