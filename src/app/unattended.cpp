#include "app/unattended.h"

#include <cstdio>

#include "app/app_session.h"
#include "app/batch/batch_run.h"
#include "platform/catalogue.h"

namespace pelikon {

void SetUnattendedAnswers(const CommandLineRequest& request, ConsoleUi& ui) {
  if (request.create_folders) ui.AnswerQuestion(Tr(kCreateFolderCaption), kAnswerYes);
  if (request.overwrite) ui.AnswerFileConflicts(kAnswerYesAll);
}

int RunWithoutWindows(const CommandLineRequest& request, SettingsStore& settings,
                      const std::filesystem::path& program_folder, const std::filesystem::path& temp_folder) {
  ConsoleUi ui(stderr, kAnswerNo, false);
  SetUnattendedAnswers(request, ui);
  NoPanesView view;
  SessionSetup setup;
  setup.settings = &settings;
  setup.program_folder = program_folder;
  setup.temp_folder = temp_folder;
  AppSession session(setup, ui, view);
  // No pane to show the checklist in before connecting; a failed
  // connection still prints it.
  session.Start(false);
  session.Panes().Connect();
  if (!session.RunCommandLine(request))
    std::fprintf(stderr, "pelikon: %s\n", Tr("Nothing to do without windows: give /BATCH and a batch file."));
  session.Finish();
  return session.Exit().ProcessStatus();
}

}  // namespace pelikon
