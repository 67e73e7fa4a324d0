// Definitions of the add-on's global state and its values before start-up.
#include "interface/addon_state.h"

#include <initializer_list>

VyrAddOn_pa AddOnID = nullptr;
char* FileName = nullptr;
char* DefaultFileName = nullptr;
SdsEntry* SdsEntries = nullptr;
int32_t SdsCount = 0;
VyrSet_pa SelectedSds = nullptr;
int32_t ISkip = 0, JSkip = 0, KSkip = 0;
int32_t SrcIMax = 0, SrcJMax = 0, SrcKMax = 0;
int32_t PointsDone = 0, PointsTotal = 0;
bool LoadInterrupted = false;

int32_t LoadDialog = NotBuilt;
int32_t ISkipLabel = NotBuilt, JSkipLabel = NotBuilt, KSkipLabel = NotBuilt,
        DataSetListLabel = NotBuilt, FileLabel = NotBuilt, FileNameLabel = NotBuilt;
int32_t DataSetList = NotBuilt, AttributesButton = NotBuilt, ISkipField = NotBuilt,
        JSkipField = NotBuilt, KSkipField = NotBuilt, SelectFileButton = NotBuilt;
int32_t AttrDialog = NotBuilt, AttrText = NotBuilt, AttrTextLabel = NotBuilt;

void ResetAddOnState() {
    AddOnID = nullptr;
    FileName = DefaultFileName = nullptr;
    SdsEntries = nullptr;
    SdsCount = 0;
    SelectedSds = nullptr;
    ISkip = JSkip = KSkip = 0;
    SrcIMax = SrcJMax = SrcKMax = 0;
    PointsDone = PointsTotal = 0;
    LoadInterrupted = false;
    for (int32_t* Id :
         {&LoadDialog, &ISkipLabel, &JSkipLabel, &KSkipLabel, &DataSetListLabel, &FileLabel,
          &FileNameLabel, &DataSetList, &AttributesButton, &ISkipField, &JSkipField, &KSkipField,
          &SelectFileButton, &AttrDialog, &AttrText, &AttrTextLabel})
        *Id = NotBuilt;
}
