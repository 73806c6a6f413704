// The tempo sources as the user and the preferences know them: one row per
// source (its stored text, menu name and mnemonic, how its tempo is written),
// and every text made of a source's report: the menu entry, the tooltip's
// state, the tempo the box takes. Adding a source is one row here plus its
// class and factory entry in the sequencer.
#pragma once

#include <QString>
#include <array>
#include <string_view>

#include "tempo_source.h"

namespace extras {

using sequencer::SourceKind;

struct SourceRow {
  SourceKind kind;
  std::string_view stored;  // in the preferences file, frozen once released
  std::string_view name;    // in the Tempo Source menu
  int mnemonic;             // the index in `name` of the mnemonic's letter
  // The tempo's decimals: fixed (a clock's estimate), or -1 for the shortest
  // text of at most 3 decimals that fits the tempo box.
  int decimals;
  std::string_view tip = {};  // the menu entry's tooltip
};

inline constexpr std::array kSourceRows = {
    SourceRow{SourceKind::Manual, "manual", "Manual", 0, -1},
    SourceRow{SourceKind::JackTransport, "jack-transport", "JACK Transport", 0, -1},
    SourceRow{SourceKind::MidiClock, "midi-clock", "MIDI Clock", 5, 1},
    SourceRow{SourceKind::AbletonLink, "ableton-link", "Ableton Link", 0, -1,
              "Shares one tempo with every Link app on the local network: a tempo you set "
              "yourself goes to the whole session, and following goes on"},
};

// The row of `kind`; null for a source this build has no row for.
const SourceRow* RowOf(SourceKind kind);
// The row whose stored text is `text` (blanks around it aside); null for none.
const SourceRow* RowOfStored(const QString& text);
QString SourceName(SourceKind kind);
// `text`, which begins with the source's name, with the mnemonic marked.
QString WithMnemonic(SourceKind kind, QString text);

// The tempo text a source's tempo gives, in the box, the menu and the
// tooltip alike: the row's fixed decimals, or the shortest text with at most
// 3 decimals whose length is within `maxLength` (103.7048 gives 103.705, or
// 103.7 where 7 characters do not fit; never 103.70). Empty when none fits.
QString TempoText(SourceKind kind, double bpm, int maxLength, QChar separator);
// A number as received, exact enough to read it back and without exponent:
// 1e-9 gives 0.000000001; NaN and infinities say what they are.
QString ReceivedText(double value, QChar separator);

// The entry of a source in its state, without mnemonic: "JACK Transport: 128
// BPM", "MIDI Clock: waiting for clock", "JACK Transport (no JACK server)",
// "JACK Transport: 0.000000001 BPM ignored", "Ableton Link: 128 BPM, 2 peers",
// "Ableton Link: no peers (128 BPM)". `tempoText` is the report's
// tempo as TempoText writes it.
QString StateText(const sequencer::SourceReport& report, const QString& tempoText, QChar separator);

}  // namespace extras
