#pragma once
// The pages of the main window's notebook, the categories of its SFU settings page, the order
// in which Next Page and Previous Page walk them and the help topic of each.
#include <cstddef>

namespace kvx {

enum TJobPage {
  jpOriginalFile, jpDestination, jpPiecesType, jpPiecesNames, jpPiecesProperties,
  jpSplitFile, jpSfuProperties, jpSfuSettings, jpSummary, jpSfuLanguage,
};
constexpr int kPageCount = 10;

struct TPageText {
  const char* Caption;
  const char* Heading;
};
// By page index.
extern const TPageText kPages[kPageCount];

// The six categories of page 7 (list categ and its inner pages), in order.
constexpr int kSfuCategoryCount = 6;
extern const TPageText kSfuCategories[kSfuCategoryCount];

// The page after and before page in the cycle 0, 1, 5, 2, 3, 4, 6, 7, 9, wrapping at both ends;
// the summary page stays where it is.
int NextPage(int page);
int PreviousPage(int page);
// The help topic of a page: 1004 on 0, 1 and 5; 1001 on 2; 1011 on 3; 1009 on 4; 1008 on 6, 7
// and 9; 1005 on 8.
int PageHelpTopic(int page);

// The links of the navigation panel, in three groups, with the page each shows.
struct TNavigationLink {
  const char* Group;
  const char* Caption;
  int Page;
};
constexpr size_t kNavigationLinkCount = 9;
extern const TNavigationLink kNavigationLinks[kNavigationLinkCount];

}  // namespace kvx
