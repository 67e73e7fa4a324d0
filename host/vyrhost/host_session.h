// One run of the stand-in host with the add-on loaded, driven by a person,
// a script or a command: every action goes through the host's control API
// (the add-on's own callbacks and dialogs), and the session keeps what the
// exit status and the JSON need: the last load's result and whether a
// command could not do what it says; and, for the picture, what it knows of
// where the host's data set came from.
#ifndef LOADHDF_HOST_VYRHOST_HOST_SESSION_H
#define LOADHDF_HOST_VYRHOST_HOST_SESSION_H

#include "picture/picture.h"
#include "progress_bar.h"
#include "vyr_host_control.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VyrHostProgram {

// The loader's name, as the add-on registers it and the host lists it.
extern const char* const LoaderName;
// The title of the add-on's load dialog.
extern const char* const LoadDialogTitle;

// What the session prints on standard output after each load that returned
// true: nothing, the data set's summary, or its checksum lines.
enum class AfterLoadPrint { Nothing, Summary, Checksums };

class HostSession {
  public:
    // DrawProgress: standard error is a terminal for the progress bar.
    HostSession(bool DrawProgress, AfterLoadPrint Print);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // ---- The user's actions; each returns false with *Why, having done
    // nothing, when the host cannot take it. ----
    bool Launch(std::string* Why); // picks "HDF Loader"
    void AnswerNextQuestion(bool Yes) { VyrHost::QueueAnswer(Yes); }
    void AnswerNextFileDialog(std::optional<std::string> Path) { VyrHost::QueueFileName(Path); }
    bool Press(const std::string& ButtonText, std::string* Why);
    bool Select(const std::vector<int32_t>& Items, std::string* Why);
    bool Type(const std::string& LabelText, const std::string& Text, std::string* Why);
    // OK of the top dialog; on the load dialog this may run a load.
    bool Ok(std::string* Why);
    bool Cancel(std::string* Why) { return VyrHost::PressCancel(Why); }
    bool Help(std::string* Why) { return VyrHost::PressHelp(Why); }
    // The host replays a recorded load: the loader function with Items.
    bool Replay(const std::vector<std::string>& Items, std::string* Why);
    // The user will press Stop at the N-th percent-done check of the next
    // load (0: never).
    void StopAt(int32_t Check);
    // Cancels every dialog that is still up, topmost first, so that the
    // add-on gives back what the dialogs hold.
    void CloseDialogs();

    // ---- Outcome ----
    // What the last loader call returned; nullopt when none ran.
    std::optional<bool> LastLoadResult() const { return LoadResult; }
    // A command could not do what it says: prints "vyrhost: Why" on
    // standard error (when Why is not empty) and makes the exit status 1.
    void Fail(const std::string& Why);
    bool Failed() const { return CommandFailed; }
    // 0 when the last load returned true (or none ran) and nothing failed.
    int ExitStatus() const;
    // The file and the list lines of the last load that returned true:
    // through the load dialog, its file and the lines of the data sets
    // selected, one per zone in order; replayed, the list's file alone.
    // Empty after a load that returned false, which may have left the
    // host's data set half replaced.
    const PictureLabels& Labels() const { return LoadedFrom; }

  private:
    template <typename Action> void RunLoad(Action Load);
    void AfterLoad(bool Result);
    void RecordLoadedFrom(bool Result, PictureLabels Labels);

    ProgressBar Bar;
    AfterLoadPrint Print = AfterLoadPrint::Nothing;
    bool CommandFailed = false;
    std::optional<bool> LoadResult;
    int32_t StopAtArmed = 0;
    int32_t PercentDoneLaunchesBefore = 0;
    PictureLabels LoadedFrom;
};

// The topmost dialog's list control, or null.
const VyrHost::Control* TopDialogList();
// The topmost dialog's multi-line text control, or null.
const VyrHost::Control* TopDialogText();
// Whether the topmost dialog is up and has this title.
bool TopDialogIs(const std::string& Title);

} // namespace VyrHostProgram

#endif
