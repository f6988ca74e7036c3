#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vexo {

// The commands over benchmark files. Each takes the command's arguments (after its name) and
// returns the exit status: 0 success, 1 a file did not load or check, 2 a usage mistake.
int dumpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Refuses to replace an existing OUT that is not among the files without --force; with a
// question stream (a terminal) it asks instead.
int mergeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 std::istream* question = nullptr);
// Groups the files' records by name (without a "(run K of N)" suffix) and prints per score
// each group's median, range and spread and its ratio to the first group.
int compareCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Writes one HTML page of the files' records (-o OUT), with the charts drawn against the
// record numbered by --baseline when given; madeAt is the date shown on it.
int reportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::string& madeAt);
int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A CSV field as RFC 4180 quotes it.
std::string csvField(const std::string& text);

} // namespace vexo
