#include "compound_files.h"

const std::vector<CompoundFile>& CompoundFiles() {
    static const std::vector<CompoundFile> files = {
        {"galo.nc", BuildGalo},
        {"scene_1_bar.nc", BuildScene1Bar},
        {"scene_2_stage.nc", BuildScene2Stage},
        {"scene_3_celos.nc", BuildScene3Celos},
        {"scene_4_stage.nc", BuildScene4Stage},
        {"scene_4_aux_lights.nc", BuildScene4AuxLights},
        {"scene_5_stage.nc", BuildScene5Stage},
        {"scene_6.nc", BuildScene6},
        {"scene_7_padroes.nc", BuildScene7Padroes},
        {"scene_8_placar.nc", BuildScene8Placar},
        {"scene_9_stage.nc", BuildScene9Stage},
        {"scene_cubemap.nc", BuildSceneCubemap},
        {"scene_creditos.nc", BuildSceneCreditos},
    };
    return files;
}
