#include "speech/speech.h"

#include "base/app.h"
#include "base/ids.h"
#include "search/results.h"
#include "view/layout.h"

namespace lumiseek {

namespace {
constexpr int kVolumeUp = 0xAF;
constexpr int kVolumeDown = 0xAE;
constexpr int kVolumeMute = 0xAD;
constexpr int kKeyExtended = 1;
constexpr int kKeyUp = 2;

void SilenceVoice(App& app) { app.port.VoiceSpeak("", SPF_ASYNC | SPF_PURGEBEFORESPEAK); }

void PressFiveTimes(App& app, int vk) {
    for (int i = 0; i < 5; ++i) {
        app.port.SendKey(vk, kKeyExtended);
        app.port.SendKey(vk, kKeyExtended | kKeyUp);
    }
}
}  // namespace

void SpeakOne(App& app, const std::string& text) {
    if (app.settings.DisableSpeech != 0) return;
    app.port.VoiceSpeak(app.SpeechPrefix + text, SPF_ASYNC | SPF_PURGEBEFORESPEAK);
    app.SpeechPrefix.clear();
}

void SpeakOneWait(App& app, const std::string& text) {
    if (app.settings.DisableSpeech != 0) return;
    app.port.VoiceSpeak(text, SPF_PURGEBEFORESPEAK);
}

void SpeakNext(App& app, const std::string& text) {
    if (app.settings.DisableSpeech != 0) return;
    app.port.VoiceSpeak(text, SPF_ASYNC);
}

void SBeep(App& app) { app.port.Beep(275, 150); }

void SpeakColumn(App& app, int column) {
    if (app.settings.DisableSpeech != 0) return;
    int row = app.port.ListSelectedRow();
    std::string text = GetCellText(app, row, column);
    if (text == "<empty>") {
        SpeakOne(app, "List is Empty");
    } else {
        SpeakOne(app, text);
    }
}

void VolumeUp(App& app) { PressFiveTimes(app, kVolumeUp); }

void VolumeDown(App& app) { PressFiveTimes(app, kVolumeDown); }

void MuteSpeakers(App& app) {
    app.port.SendKey(kVolumeMute, kKeyExtended);
    SBeep(app);
    SBeep(app);
}

// Spoken whatever DisableSpeech now says, so switching speech off is itself heard; the
// pending announcement goes in front of it like in front of any confirmation.
void ToggleDisableSpeech(App& app) {
    app.settings.DisableSpeech ^= 1;
    std::string text = std::string("Speech is ") + (app.settings.DisableSpeech != 0 ? "Disabled" : "Enabled");
    app.port.VoiceSpeak(app.SpeechPrefix + text, SPF_ASYNC | SPF_PURGEBEFORESPEAK);
    app.SpeechPrefix.clear();
}

void ToggleSpeed(App& app) {
    Settings& s = app.settings;
    SilenceVoice(app);
    std::string text;
    if (s.vRate == s.SlowRate) {
        s.vRate = 0;
        text = "Normal speech is on!";
    } else if (s.vRate == 0) {
        s.vRate = s.FastRate;
        text = "Fast speech is on!";
    } else if (s.vRate == s.FastRate) {
        s.vRate = s.SlowRate;
        text = "Slow speech is on!";
    }
    app.port.VoiceSetRate(s.vRate);
    SpeakOne(app, text);
}

void Escape(App& app) {
    if (app.port.VoiceRunningState() == SPRS_IS_SPEAKING) {
        SilenceVoice(app);
        return;
    }
    Settings& s = app.settings;
    if (s.SearchType == 5 || s.SearchType == 6) {
        s.SearchType = s.LastSearchType;
        Resize(app);
        SpeakOneWait(app, "Returning to Last Results");
        OpenSession(app);
        return;
    }
    app.port.EndWindow();
}

}  // namespace lumiseek
