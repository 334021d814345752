#pragma once
// A file system in memory for the save's safe replace, logging what it is
// asked to do.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "devinfo/save_platform.h"

namespace ikw::test_support {

using Log = std::vector<std::string>;

// Files in memory with Windows' rules that matter here: a file that is open
// without sharing can be neither moved nor deleted, a path of 260 units or
// more cannot be created, and a file needs an existing folder.
class FakeFiles : public FileSystem {
    static std::string NarrowPath(const std::u16string& text) { return std::string(text.begin(), text.end()); }

public:
    std::map<std::u16string, std::vector<std::uint8_t>> files;
    std::map<std::u16string, std::u16string> links;  // symbolic link: the path it points to
    std::map<std::u16string, PathHolds> others;      // what stands at a path besides files and folders
    std::set<std::u16string> folders{u"C:\\out"};
    std::set<std::u16string> open;
    std::optional<std::size_t> writeFailsAfter;  // bytes that reach the file before the failure
    bool closeFails = false;
    bool moveFails = false;
    bool replaceLosesTarget = false;  // the old file goes, and the new one cannot take its place
    bool nameTakenAtPlace = false;    // a new target's name is taken when the file is put there
    Log* log = nullptr;

    NewFile CreateNewFile(const std::u16string& path) override {
        log->push_back("create " + NarrowPath(path));
        if (path.size() > 259 || !folders.count(path.substr(0, path.find_last_of(u"\\/"))))
            return {};
        if (files.count(path))
            return {nullptr, true};
        files[path];
        open.insert(path);
        return {std::make_unique<File>(*this, path), false};
    }
    PathHolds WhatIsAt(const std::u16string& path) override {
        log->push_back("look " + NarrowPath(path));
        if (others.count(path))
            return others[path];
        if (folders.count(path))
            return PathHolds::Folder;
        if (links.count(path))
            return PathHolds::LinkToNothing;  // FileToReplace followed every link that leads somewhere
        if (open.count(path))
            return PathHolds::FileInUse;
        return files.count(path) ? PathHolds::DiskFile : PathHolds::Nothing;
    }
    std::u16string FileToReplace(const std::u16string& path) override {
        // As the platform's: only a link that leads to a file is followed.
        std::u16string at = path;
        while (links.count(at) && (files.count(links[at]) || links.count(links[at])))
            at = links[at];
        return at;
    }
    PlaceOutcome PutInPlace(const std::u16string& source, const std::u16string& target) override {
        log->push_back("replace " + NarrowPath(target) + " < " + NarrowPath(source));
        if (replaceLosesTarget) {
            files.erase(target);
            return PlaceOutcome::TargetLost;
        }
        if (nameTakenAtPlace)
            return PlaceOutcome::NameTaken;
        if (moveFails || open.count(source) || open.count(target) || !files.count(source) || links.count(target))
            return PlaceOutcome::TargetKept;
        files[target] = files[source];
        files.erase(source);
        return PlaceOutcome::Placed;
    }
    void RemoveFile(const std::u16string& path) override {
        log->push_back("remove " + NarrowPath(path));
        if (!open.count(path))
            files.erase(path);
    }

private:
    class File : public OutputFile {
    public:
        File(FakeFiles& fs, std::u16string path) : m_fs(fs), m_path(std::move(path)) {}
        ~File() override { m_fs.open.erase(m_path); }
        bool Write(const std::uint8_t* bytes, std::size_t size) override {
            m_fs.log->push_back("write " + std::to_string(size));
            const std::size_t reaching = std::min(size, m_fs.writeFailsAfter.value_or(size));
            m_fs.files[m_path].insert(m_fs.files[m_path].end(), bytes, bytes + reaching);
            return reaching == size;
        }
        bool Close() override {
            m_fs.log->push_back("close");
            m_fs.open.erase(m_path);
            return !m_fs.closeFails;
        }

    private:
        FakeFiles& m_fs;
        std::u16string m_path;
    };
};

}  // namespace ikw::test_support
