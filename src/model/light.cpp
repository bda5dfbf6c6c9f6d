#include "model/light.h"

#include "platform/graphics_context.h"

void Light::Collect() const {
    // The fourth float of the colour itself is not sent; colour w is.
    zkAddLight(position.x, position.y, position.z, positionW, colour[0], colour[1], colour[2], colourW);
}
