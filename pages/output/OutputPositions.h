#pragma once

// The speaker-position buttons of the output page: which button stands for
// which speaker type, and their pictures.

#include "platform/sys/WinTypes.h"

// The order the page binds its 24 position buttons in.
inline constexpr UINT kPositionBindOrder[24] = {4621, 4623, 4622, 4617, 4618, 4620, 4615, 4616,
                                                4619, 4611, 4610, 4609, 4612, 4613, 4614, 4605,
                                                4604, 4603, 4606, 4607, 4608, 4600, 4601, 4602};

// The button of speaker type t (1..24) at index t; 0 for type 0.
inline constexpr UINT kPositionButtonOfType[25] = {0,    4605, 4604, 4603, 4606, 4607, 4608, 4611, 4610,
                                                   4609, 4612, 4613, 4614, 4616, 4615, 4619, 4618, 4617,
                                                   4620, 4601, 4600, 4602, 4621, 4622, 4623};

struct PositionImages {
    UINT normal;
    UINT hover;
    UINT pressed;
};

// The PNG pictures of a position button (by control id).
inline PositionImages PositionImagesOf(UINT id) {
    switch (id) {
    case 4600:
    case 4602:
        return {7123, 7124, 7125};
    case 4601:
        return {7120, 7121, 7122};
    case 4605:
    case 4616:
        return {7100, 7101, 7102};
    case 4604:
    case 4606:
    case 4607:
    case 4608:
        return {7103, 7104, 7105};
    case 4603:
    case 4615:
    case 4619:
        return {7106, 7107, 7108};
    case 4611:
    case 4618:
        return {7110, 7111, 7112};
    case 4610:
    case 4612:
    case 4613:
    case 4614:
        return {7113, 7114, 7115};
    case 4609:
    case 4617:
    case 4620:
        return {7116, 7117, 7118};
    case 4621:
        return {585, 586, 587};
    case 4623:
        return {582, 583, 584};
    case 4622:
        return {588, 589, 590};
    default:
        return {0, 0, 0};
    }
}
