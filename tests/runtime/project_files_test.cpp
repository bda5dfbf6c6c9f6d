// What a script's maker lines name, read before the loading.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/project_files.h"

namespace {

ProjectFiles Scan(const std::string& script) {
    std::string text = script;
    std::FILE* file = fmemopen(text.data(), text.size(), "r");
    const ProjectFiles files = ScanProjectFiles(file);
    std::fclose(file);
    return files;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ProjectFiles, PlainFileNamesStayInsideTheirFolder) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"tune.ogg", true},      {"my-scene_2.nc", true}, {"", false},          {"../x.nc", false},
        {"models/x.nc", false},  {"a\\b.nc", false},      {".hidden", false},   {"a b.nc", false},
        {std::string(100, 'a'), true}, {std::string(101, 'a'), false}, {std::string("a\0b", 3), false},
    };
    for (const auto& [name, plain] : cases) EXPECT_EQ(IsPlainFileName(name), plain) << name;
}

TEST(ProjectFiles, TheMakersLinesNameTheFilesToLoadEachOnce) {
    const ProjectFiles files = Scan(
        "!MusicFile own.ogg\n.Compound\n-file a.nc\n-shader M zkOne\n-shader * zkTwo\n.Layer\n-picture p.png\n"
        "-file notacompound.nc\n.Compound\n-file a.nc\n-file b.nc\n-shader N zkOne\n.FTB\n-time 0 1\n");
    EXPECT_EQ(files.musicFile, "own.ogg");
    EXPECT_FALSE(files.originalScenes);
    EXPECT_EQ(files.compounds, (Names{"a.nc", "b.nc"}));
    EXPECT_EQ(files.shaders, (Names{"zkOne", "zkTwo"}));
    EXPECT_EQ(files.pictures, (Names{"p.png"}));
}

TEST(ProjectFiles, TheOriginalsScenesKeepItsAssetsAndItsMusic) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {".ID4\n-time 0 1\n", true},          {".IDC\n", true},
        {".FTB\n.IFTB\n", false},             {".Compound\n.ID9\n", true},
        {".Nothing\n", false},                {".ID1", false},  // no line feed: never read
    };
    for (const auto& [script, original] : cases) {
        const ProjectFiles files = Scan(script);
        EXPECT_EQ(files.originalScenes, original) << script;
        EXPECT_EQ(files.musicFile, kOriginalMusicFile) << script;
    }
    EXPECT_TRUE(ProjectFiles().originalScenes);
}

TEST(ProjectFiles, NamesOutsideTheFoldersAreLeftOut) {
    const ProjectFiles files =
        Scan("!MusicFile ../../etc/passwd\n.Compound\n-file /abs.nc\n-shader M ../zkX\n.Layer\n-picture \"a b\"\n"
             "-picture\n");
    EXPECT_EQ(files.musicFile, kOriginalMusicFile);
    EXPECT_TRUE(files.compounds.empty());
    EXPECT_TRUE(files.shaders.empty());
    EXPECT_TRUE(files.pictures.empty());
}
