#pragma once

namespace kivo {

class Document;
struct RichOptions;

/// Whether the two text windows scroll together: the one switch every command goes through.
/// The state is the options record's run-time field SyncScroll (never stored with the settings),
/// so that every holder of the options sees the same; this is the only code that writes it.
class ScrollSync {
public:
    explicit ScrollSync(RichOptions &options) : m_options(options) {}

    bool IsOn() const;
    /// Switches scrolling together on (it may be on already) and has each view of document note
    /// where it stands, as the reference of the scrolls that follow.
    void Start(Document *document);
    /// Switches it off: a new text, a paste, a scroll made by Kivo that the other window must
    /// not follow, or fewer than two windows.
    void Stop();
    /// The menu command: off when on, otherwise on as Start does.
    void Toggle(Document *document);

private:
    RichOptions &m_options;
};

} // namespace kivo
