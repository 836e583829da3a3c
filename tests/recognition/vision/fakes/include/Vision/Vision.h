// Stand-in for Apple's <Vision/Vision.h> when building on Linux against GNUstep's
// Foundation. It declares only the classes, properties and methods that
// src/recognition/vision/vision_engine.mm uses, with the names, argument and return types of
// Apple's Vision interfaces (macOS 10.15 and later), in their class hierarchy.
// fakes.mm implements it.
#pragma once

#import <CoreImage/CoreImage.h>
#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef float VNConfidence;

typedef NSString* VNImageOption;

typedef NS_ENUM(NSInteger, VNRequestTextRecognitionLevel) {
  VNRequestTextRecognitionLevelAccurate = 0,
  VNRequestTextRecognitionLevelFast,
};

@interface VNObservation : NSObject
@property(readonly, nonatomic, assign) VNConfidence confidence;
@end

@interface VNDetectedObjectObservation : VNObservation
@end

@interface VNRectangleObservation : VNDetectedObjectObservation
@end

@interface VNRecognizedText : NSObject
@property(readonly, nonatomic, copy) NSString* string;
@property(readonly, nonatomic, assign) VNConfidence confidence;
@end

@interface VNRecognizedTextObservation : VNRectangleObservation
- (NSArray<VNRecognizedText*>*)topCandidates:(NSUInteger)maxCandidateCount;
@end

@interface VNRequest : NSObject
- (instancetype)init;
@property(readonly, copy, nullable) NSArray<VNObservation*>* results;
@end

@interface VNImageBasedRequest : VNRequest
@end

@interface VNRecognizeTextRequest : VNImageBasedRequest
@property(readwrite, nonatomic, assign) VNRequestTextRecognitionLevel recognitionLevel;
@property(readwrite, nonatomic, assign) BOOL usesLanguageCorrection;
@property(readwrite, nonatomic, copy) NSArray<NSString*>* recognitionLanguages;
@property(readonly, copy, nullable) NSArray<VNRecognizedTextObservation*>* results;
@end

@interface VNImageRequestHandler : NSObject
- (instancetype)initWithCIImage:(CIImage*)image options:(NSDictionary<VNImageOption, id>*)options;
- (BOOL)performRequests:(NSArray<VNRequest*>*)requests error:(NSError**)error;
@end

NS_ASSUME_NONNULL_END
