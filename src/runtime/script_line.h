// Reading the fields of a demo-script line.
#pragma once

#include <string>

// Field n: the text between the n-th and (n+1)-th space outside double
// quotes, with the quotes removed; empty when the line has fewer fields.
std::string ScriptField(const std::string& line, int index);
// The bytes after the first '-' up to the next space; empty when no space follows.
std::string ParameterName(const std::string& line);
// Everything after the first space that follows the first '-'.
std::string TextAfterName(const std::string& line);
// True when line[1 + i] == keyword[i] for every byte of the keyword.
bool MatchesKeyword(const std::string& line, const char* keyword);

int ScriptInt(const std::string& text);    // atoi
float ScriptFloat(const std::string& text);  // atof, stored as float
