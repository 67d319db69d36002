// Short paths for many files at once. One cache serves one run over a list of files
// (an add run, one script write): each folder is read once and the short names of all
// its entries are worked out together, so n files cost about n, not n squared. Files
// created or removed during the run are not noticed; make a new cache for a new run.
#ifndef VELASET_PLATFORM_SHORT_PATH_CACHE_H
#define VELASET_PLATFORM_SHORT_PATH_CACHE_H

#include <memory>
#include <string>

namespace platform {

class ShortPathCache {
  public:
    ShortPathCache();
    ~ShortPathCache();
    ShortPathCache(const ShortPathCache&) = delete;
    ShortPathCache& operator=(const ShortPathCache&) = delete;

    // The same text as ShortPath(path), for the folders as they were when first read.
    std::string ShortPath(const std::string& path);
    // The same text as ResolvePath(path) (file_access.h): the path of the file that a
    // path with short or differently cased components means, for the folders as first
    // read.
    std::string Resolve(const std::string& path);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform

#endif
