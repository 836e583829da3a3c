// Stand-in for Apple's <CoreImage/CoreImage.h> when building on Linux against GNUstep's
// Foundation. It declares only what src/recognition/vision/vision_engine.mm uses, with the names,
// argument and return types of Apple's CIImage interface. fakes.mm implements it.
#pragma once

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface CIImage : NSObject

// Apple: returns nil when the URL does not hold a picture Core Image can read.
- (nullable instancetype)initWithContentsOfURL:(NSURL*)url;

@end

NS_ASSUME_NONNULL_END
