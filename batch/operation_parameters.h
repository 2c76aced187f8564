// The options of a multiple-file run (and a few that act elsewhere), with
// the rules that couple their check boxes. The window and vorn-cli hold one
// record; a run reads it live, so a change made during a run takes effect
// from the next read.
#ifndef VORN_BATCH_OPERATION_PARAMETERS_H_
#define VORN_BATCH_OPERATION_PARAMETERS_H_

namespace vorn {

struct OperationParameters {
  bool SaveStateOnQuit = true;        // save the state when quitting
  bool DialogBoxForUnixFiles = true;  // kept in the state file only
  bool DontLogDone = false;           // no log line for skipped done files
  bool SkipDone = true;               // skip files carrying the done tag
  bool AddDone = true;                // write the done tag with each tag
  bool ClearReportAtStart = true;     // empty the report before each run
  bool IncludeAllSubfolders = false;  // walk the subfolders too
  bool IncludeOldMetaTag = false;     // log the replaced tag ("OLD: ")
  bool IncludeNewMetaTag = false;     // log the new tag ("NEW: ")
  bool LogOperations = true;          // write the report at all
  bool DisplayWords = true;           // echo words as they are found
  bool Confirm = true;                // inspect each tag before inserting
  bool Backup = false;                // keep abc.bak.htm
  bool HTM = true;                    // act on *.htm
  bool SHTML = false;                 // *.shtml
  bool SHTM = false;                  // *.shtm
  bool HTML = true;                   // *.html
  // Runs write nothing and report the diff of every page instead; never
  // kept in the state file, so every session starts out writing.
  bool Preview = false;
};

// Which dependent boxes the window enables. Each rule looks only at the
// box clicked; the later click decides.
struct ParameterEnabling {
  bool DontLogDone = true;
  bool IncludeOldMetaTag = true;
  bool IncludeNewMetaTag = true;
};

// The box clicks, with their couplings: the old tag is never reported
// without the new one, and the dependent boxes follow their master.
void ClickSkipDone(OperationParameters& p, ParameterEnabling& e, bool value);
void ClickLogOperations(OperationParameters& p, ParameterEnabling& e,
                        bool value);
void ClickIncludeOldMetaTag(OperationParameters& p, bool value);
void ClickIncludeNewMetaTag(OperationParameters& p, bool value);

}  // namespace vorn

#endif  // VORN_BATCH_OPERATION_PARAMETERS_H_
