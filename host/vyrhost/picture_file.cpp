#include "picture_file.h"

#include "vyr_host_control.h"

namespace VyrHostProgram {

PictureOutcome WritePicture(const std::string& Path, const PictureOptions& Options,
                            const PictureLabels& Labels, std::string* Why) {
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    if (Data == nullptr) {
        return PictureOutcome::NothingToDraw;
    }
    PictureDrawn Drawn;
    std::string Reason;
    if (!DrawPicture(*Data, Options, Labels, Path, &Drawn, &Reason)) {
        *Why = "cannot write the picture " + Path + ": " + Reason;
        return PictureOutcome::Failed;
    }
    return PictureOutcome::Written;
}

} // namespace VyrHostProgram
