// WidgetGallery: one picture of every control in its main states, for checking them by eye.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

struct GallerySection {
    QString title;
    QImage image;
};

// Renders the knob, DIP switch, skinned dial and animated button sections, followed by
// extraSections in the order given.
QImage renderWidgetGallery(const std::vector<GallerySection>& extraSections = {});
