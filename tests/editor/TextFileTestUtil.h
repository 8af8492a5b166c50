#pragma once
// Shared helpers of the text file tests: scratch directories, whole-file reads and
// writes, the paragraphs of a list, and tests run in a child process.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "text/ParaList.h"

// A scratch directory, removed with everything in it (write permission given back first).
struct TScratchDir {
    std::string Path;
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    std::string operator/(const std::string& name) const { return Path + "/" + name; }
    // The names in the directory, sorted.
    std::vector<std::string> Names() const;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline std::vector<std::string> Paras(const TZalParaList& list) {
    std::vector<std::string> out;
    for (const TParaNode* n = list.First(); n; n = n->Next) out.emplace_back(n->GetText(), n->Length());
    return out;
}

// Equality of long texts (or lists of them) that reports only where they first differ.
::testing::AssertionResult Same(const std::string& actual, const std::string& expected);
::testing::AssertionResult Same(const std::vector<std::string>& actual,
                                const std::vector<std::string>& expected);

// Runs body in a child process, as an ordinary user when the tests run as root (so that
// permissions bind), with its own file-size limit when one is given. The test fails
// when any expectation in the child fails.
void RunInChild(const std::function<void()>& body, long fileSizeLimit = -1);
