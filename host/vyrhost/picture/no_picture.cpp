// The picture in a build without Cairo (the 32-bit and Windows builds, whose
// toolchains have no Cairo to link): every request says so.
#include "picture.h"

namespace VyrHostProgram {

bool PicturesAvailable() {
    return false;
}

bool DrawPicture(const VyrHost::DataSet&, const PictureOptions&, const PictureLabels&,
                 const std::string&, PictureDrawn* Drawn, std::string* Why) {
    *Drawn = PictureDrawn{};
    *Why = "this vyrhost was built without Cairo, which draws pictures";
    return false;
}

} // namespace VyrHostProgram
