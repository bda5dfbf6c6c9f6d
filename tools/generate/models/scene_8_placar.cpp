// The scoreboard behind the rooster: a dot-matrix board standing on the floor
// and facing -y. Its display shader draws 64 x 8 lamps from the face's uv, so
// the lamp area is one quad with uv 0..1 (u left to right, v top to bottom),
// kept at the 8:1 of the lamps so they come out round; frame, back and legs
// sit at a dark corner of the first lamp cell.
#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

compound_file::File BuildScene8Placar() {
    compound_file::File file;
    file.textures.push_back("tex2d_ball.png");
    compound_file::Material bolas;
    bolas.name = "Bolas";
    bolas.cullMode = 1;  // drawn mirrored too
    bolas.textures = {0};  // the lamp; the engine puts the greetings strip in slot 1
    file.materials.push_back(bolas);

    // The lamp area: 16 x 2, centred at (0, 6, 3.4), above the rooster's back.
    const float halfWidth = 8, halfHeight = 1, centreZ = 3.4f, faceY = 5.85f;
    const float bottom = centreZ - halfHeight, top = centreZ + halfHeight;
    const scenery::FixedUv dark = std::make_pair(0.001f, 0.001f);
    mesh::MeshBuilder mb;
    const Vec3 n{0, -1, 0};
    mb.Quad(0, {{-halfWidth, faceY, bottom}, n, 0, 1}, {{halfWidth, faceY, bottom}, n, 1, 1},
            {{halfWidth, faceY, top}, n, 1, 0}, {{-halfWidth, faceY, top}, n, 0, 0});

    // The frame around the face, standing 0.12 proud of it, and the case behind.
    const float rim = 0.3f, frameY = faceY - 0.12f;
    auto box = [&](Vec3 centre, Vec3 half) {
        scenery::OrientedBox(mb, 0, centre, {half.x, 0, 0}, {0, half.y, 0}, {0, 0, half.z}, 0, dark);
    };
    const float caseFront = faceY + 0.01f, caseBack = faceY + 0.6f, caseY = (caseFront + caseBack) / 2;
    box({0, (frameY + caseBack) / 2, top + rim / 2}, {halfWidth + rim, (caseBack - frameY) / 2, rim / 2});
    box({0, (frameY + caseBack) / 2, bottom - rim / 2}, {halfWidth + rim, (caseBack - frameY) / 2, rim / 2});
    for (float side : {-1.0f, 1.0f})
        box({side * (halfWidth + rim / 2), (frameY + caseBack) / 2, centreZ},
            {rim / 2, (caseBack - frameY) / 2, halfHeight});
    box({0, caseY, centreZ}, {halfWidth, (caseBack - caseFront) / 2, halfHeight});

    // Two legs with feet, and a cross brace between them.
    for (float x : {-5.5f, 5.5f}) {
        box({x, caseY, (bottom - rim) / 2}, {0.22f, 0.22f, (bottom - rim) / 2});
        box({x, caseY, 0.06f}, {0.5f, 1.1f, 0.06f});
    }
    box({0, caseY, 0.9f}, {5.5f, 0.1f, 0.1f});
    file.models.push_back(mb.Build("Placar"));
    file.nodes.push_back(placement::ModelNode("Placar", 0));

    // A slow swing in front of the board; the scene runs it from 500 back to 0.
    file.cameras.push_back({"ID8", 0});
    const Vec3 target{0, 3, 2.7f};
    file.nodes.push_back(placement::CameraPath("ID8", 0,
                                               {{0, {11, -13, 2.4f}, target},
                                                {125, {6, -15.5f, 3.2f}, target},
                                                {250, {0, -16.5f, 4.2f}, {0, 3, 2.9f}},
                                                {375, {-6.5f, -15, 3.4f}, target},
                                                {500, {-12, -11.5f, 2.6f}, target}}));
    return file;
}
