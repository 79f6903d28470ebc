#pragma once

// What a filter tells the slider that mirrors it.  The model knows no
// windows: the control kit's slider implements this and the page links it to
// a filter with CFilter::SetLinkedSlider.

class FilterSliderLink {
public:
    virtual ~FilterSliderLink() = default;

    // A crossover filter's target frequency was set (Hz).
    virtual void OnFilterFrequencySet(int hz) = 0;
    // A band's point was dragged; the gain index after the drag.
    virtual void OnFilterGainDragged(int gainIndex) = 0;

protected:
    FilterSliderLink() = default;
};
