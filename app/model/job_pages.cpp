#include "app/model/job_pages.h"

namespace kvx {

const TPageText kPages[kPageCount] = {
    {"Original File", "Which file do you want to split?"},
    {"Destination", "Where do you wish to copy the pieces to?"},
    {"Pieces Type", "Which type of pieces?"},
    {"Pieces Names", "How do you want to name your pieces?"},
    {"Pieces Properties", "Do you want to customize your pieces?"},
    {"Split File", "Ready to split your file"},
    {"Self-Uniting Properties", "Do you want to include SFU functionality?"},
    {"Self-Uniting Settings", "Do you wish to customize the SFU program?"},
    {"Split Operation Summary", "What did happen?"},
    {"Self-Uniting Language", "Which language do you want to use?"},
};

const TPageText kSfuCategories[kSfuCategoryCount] = {
    {"Welcome Message", "What is your Welcome message?"},
    {"Custom Messages Boxes", "Which message boxes do you want to display?"},
    {"Destination Folder", "Where do you want to place the restored file?"},
    {"After Unite", "What do you want to do upon the unite process?"},
    {"Miscellaneous Options", "Which options do you want to use?"},
    {"Picture Header", "Do you want to customize the main window?"},
};

const TNavigationLink kNavigationLinks[kNavigationLinkCount] = {
    {"General", "Original File", jpOriginalFile},   {"General", "Destination Folder", jpDestination},
    {"General", "Split File!", jpSplitFile},         {"Pieces", "Type and Size", jpPiecesType},
    {"Pieces", "Filenames", jpPiecesNames},          {"Pieces", "Other Properties", jpPiecesProperties},
    {"Self-Uniting", "Properties", jpSfuProperties}, {"Self-Uniting", "Functionality", jpSfuSettings},
    {"Self-Uniting", "Language", jpSfuLanguage},
};

namespace {

const int kCycle[] = {0, 1, 5, 2, 3, 4, 6, 7, 9};
constexpr int kCycleLength = sizeof kCycle / sizeof kCycle[0];

int Step(int page, int by) {
  for (int i = 0; i < kCycleLength; ++i)
    if (kCycle[i] == page) return kCycle[(i + by + kCycleLength) % kCycleLength];
  return page;
}

}  // namespace

int NextPage(int page) { return Step(page, 1); }
int PreviousPage(int page) { return Step(page, -1); }

int PageHelpTopic(int page) {
  static const int kTopics[kPageCount] = {1004, 1004, 1001, 1011, 1009, 1004, 1008, 1008, 1005, 1008};
  return page >= 0 && page < kPageCount ? kTopics[page] : 1005;
}

}  // namespace kvx
