// The voice and the shared speaking operations.
#pragma once

#include <string>

namespace lumiseek {

struct App;

// Speaks SpeechPrefix + text asynchronously, purging, then empties the prefix.
// Silent (prefix untouched) while DisableSpeech is on.
void SpeakOne(App& app, const std::string& text);
// Speaks the text alone, purging, and returns when it has been spoken. Silent while disabled.
void SpeakOneWait(App& app, const std::string& text);
// Speaks the text asynchronously after what the voice is saying now (no purge, no prefix), so
// that it is heard after the announcement it follows. Silent while disabled.
void SpeakNext(App& app, const std::string& text);
// 275 Hz for 150 ms, whatever DisableSpeech says.
void SBeep(App& app);

// Speak one column (1 name, 2 folder, 3 date, 4 size) of the selected row.
void SpeakColumn(App& app, int column);
void VolumeUp(App& app);
void VolumeDown(App& app);
void MuteSpeakers(App& app);
void ToggleDisableSpeech(App& app);
void ToggleSpeed(App& app);
// Esc: silence the voice, else leave a settings or actions list, else end the window.
void Escape(App& app);

}  // namespace lumiseek
