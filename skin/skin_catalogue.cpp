#include "skin/skin_catalogue.h"

#include "skin_catalogue_data.h"

namespace {

const ByteArrayHeader* const kSkinCatalogue[kSkinCount] = {
    &velmora_skin_1,  &velmora_skin_2,  &velmora_skin_3,  &velmora_skin_4,  &velmora_skin_5,
    &velmora_skin_6,  &velmora_skin_7,  &velmora_skin_8,  &velmora_skin_9,  &velmora_skin_10,
    &velmora_skin_11, &velmora_skin_12, &velmora_skin_13, &velmora_skin_14, &velmora_skin_15,
    &velmora_skin_16, &velmora_skin_17, &velmora_skin_18, &velmora_skin_19, &velmora_skin_20,
    &velmora_skin_21, &velmora_skin_22, &velmora_skin_23, &velmora_skin_24, &velmora_skin_25,
    &velmora_skin_26, &velmora_skin_27, &velmora_skin_28, &velmora_skin_29, &velmora_skin_30,
    &velmora_skin_31, &velmora_skin_32, &velmora_skin_33,
};

}  // namespace

ByteArray SkinCatalogueEntry(int32_t number) {
  return number >= 1 && number <= kSkinCount ? kSkinCatalogue[number - 1] : nullptr;
}
