// The main window's commands that work on the two file systems without
// moving file contents: Delete, Rename, Make dir and Set Path. Each checks
// the link first (a collector that does not answer leaves the remote side
// alone), asks through the `Ui`, works on the local pane's folder through
// std::filesystem and on the collector through the `RemoteLink`, and ends
// with the panes it touched refilled and every tag cleared.
//
// Names typed for the local side are plain names inside the local pane's
// folder: a name with a path separator, a wildcard or "|", or "." or "..",
// is refused with a message, so nothing typed reaches outside that folder
// or becomes a file the pane could not list. A local rename never replaces
// an existing file. A command that fails says why in the status line once
// the panes are refilled ("Status: Make dir failed: …"); a failed remote
// operation also sounds cue 0.
#pragma once

#include <string>

#include "app/panes/panes_controller.h"

namespace pelikon {

class FileOperations {
 public:
  // `shared_text` is the field the rename dialog shares with the mask
  // dialog: it opens with the text last accepted by either and keeps the
  // name last accepted here. Both references must outlive this object.
  FileOperations(PanesController& panes, std::string& shared_text);

  // Deletes the tagged files and removes the tagged (empty) folders of
  // both panes, asking as Confirm Delete and Protect Remote Files say;
  // "Yes All" and "No All" answer every later question of the same kind,
  // local and remote alike (offered only when more than one entry is
  // tagged). A local folder that cannot be removed stops
  // the whole run; a failed remote operation stops the remote part.
  void Delete();
  // Asks a new name for each tagged file (folders are left alone) and
  // renames it; Cancel ends the run.
  void Rename();
  // Asks for a folder name and a side, and creates the folder there.
  void MakeDir();
  // Asks for a path and a side, and makes it that pane's folder. A local
  // path that is not absolute is taken from the local pane's folder.
  void SetPath();

 private:
  class RunningAnswer;

  bool AnyTagged() const;
  // Tagged entries of both panes that Delete may ask about.
  int TaggedToDelete() const;
  // False when the local run was stopped by a folder that would not go.
  bool DeleteLocalEntries(RunningAnswer& confirm);
  // True when a remote entry was tagged (the remote pane needs refilling).
  bool DeleteRemoteEntries(RunningAnswer& confirm, RunningAnswer& protect);
  // False when the user cancelled.
  bool RenameLocalFiles();
  // True when a remote entry was tagged.
  bool RenameRemoteFiles();
  void RenameLocalFile(const std::string& name, const std::string& new_name);
  void MakeLocalFolder(const std::string& name);
  void SetLocalPath(const std::string& path);
  void SetRemotePath(const std::string& path);
  // Refills what was touched, then clears every tag.
  void Finish(bool refill_remote);
  void RefillRemote();
  // The message for a typed name that is refused; false then.
  bool AcceptLocalName(const std::string& name);
  // Notes why the command failed (`reason` is a catalogue text with one
  // "%s" for `name`) and plays the failure cue when `sound` (for the
  // collector's failures, which have always sounded it).
  void Fail(const char* reason, const std::string& name, bool sound = true);
  // Puts the noted reason into the status line.
  void ShowFailure();
  // The remote pane lists `name` (compared as the collector compares).
  bool RemoteListed(const std::string& name) const;

  PanesController& panes_;
  std::string& shared_text_;
  // The field and the chosen side, shared by Make dir and Set Path.
  std::string folder_text_;
  bool folder_local_ = true;
  std::string failure_;  // why the running command failed, for the status line
};

}  // namespace pelikon
